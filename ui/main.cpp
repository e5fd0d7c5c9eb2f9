#include "Startup.h"

int main(int argc, char* argv[]) {
  return RunGustrule(argc, argv);
}
