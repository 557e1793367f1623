#include "app/Application.h"

int main(int argc, char** argv) { return mirel::app::runApplication(argc, argv); }
