// The desktop program tessarine.
#include "mainwindow/program_entry.h"

int main(int argc, char** argv) { return tess::ProgramEntry(argc, argv); }
