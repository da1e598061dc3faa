#include "application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return pelmora::RunWindowProgram(instance, showCommand);
}
