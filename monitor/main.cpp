#include "monitor/Tollerwick_Main.h"
#include "platform/controls/Application.h"

int main(int argc, char** argv) { return rt::Run(argc, argv, &Tollerwick_Main::Main); }
