#include "app/startup.h"

int main(int argc, char** argv) { return tq::app::RunProgram(argc, argv); }
