// The library that the planted-library test puts where a user could put one:
// of a name that only that test loads, it only says that it is the one.
extern "C" __declspec(dllexport) int WmPlantedLibrary() {
  return 27;
}
