#include "Main_Frm.h"
#include "program.h"

int main(int argc, char *argv[])
{
    return runProgram(argc, argv, TForm_Main::defaultStartUrl());
}
