// A library of a name the setup might look for, placed beside the test programs, where a
// downloads folder could hold a planted one.
extern "C" __declspec(dllexport) int Planted() {
    return 42;
}
