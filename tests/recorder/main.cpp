#include "capturefixture.h"
#include "qttestmain.h"

int main(int argc, char** argv)
{
    return runWithApplication(argc, argv, new ToneServer);
}
