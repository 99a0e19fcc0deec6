#include "platform/tesselapplication.h"

int main(int argc, char** argv) {
    TesselApplication application(argc, argv);
    return 0;
}
