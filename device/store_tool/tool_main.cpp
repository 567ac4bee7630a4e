// zentally-store: the program is its command line.
#include "device/store_tool/store_tool.h"

int main(int argc, char** argv)
{
    return StoreToolMain(argc, argv);
}
