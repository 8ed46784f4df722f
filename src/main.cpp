#include "frontend/cli.h"

int main(int argc, char** argv) { return vorn::runMain(argc, argv); }
