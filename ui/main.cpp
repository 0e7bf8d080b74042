#include "ui/calculator.h"

int main(int argc, char** argv) { return its90::ui::run_calculator(argc, argv); }
