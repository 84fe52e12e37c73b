#include "externo/startup/StartProgram.h"

int main(int argc, char **argv)
{
    return zd::StartProgramMain(argc, argv);
}
