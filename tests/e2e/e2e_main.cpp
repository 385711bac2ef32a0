// The program as the whole-program checks start it: the same entry, with the fixture server's
// address as start page instead of the built-in one.
#include <QUrl>

#include "program.h"

int main(int argc, char *argv[])
{
    const QUrl startUrl(qEnvironmentVariable("LIMS_E2E_START_URL"));
    return runProgram(argc, argv, startUrl);
}
