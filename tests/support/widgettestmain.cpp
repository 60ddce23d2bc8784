#include "qttestmain.h"

// The main of the widget test programs. The tests that hear the controls' announcements listen
// to them directly.
int main(int argc, char** argv)
{
    return runWithApplication(argc, argv);
}
