#include "cli/KivCli.h"

#include <iostream>

int main(int argc, char** argv) { return KivRunCli(argc, argv, std::cout, std::cerr); }
