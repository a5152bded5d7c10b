#include "monitor/Tollerwick_Main.h"
#include "platform/runtime/Program.h"

int main(int argc, char** argv) { return rt::Run(argc, argv, &Tollerwick_Main::Main); }
