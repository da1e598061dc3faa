#include "convert_command.h"

int main(int argc, char** argv) {
    return pelmora::RunConvertCommand(argc, argv);
}
