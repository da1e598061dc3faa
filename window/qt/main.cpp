#include "application.h"

int main(int argc, char** argv) {
    return pelmora::RunWindowProgram(argc, argv);
}
