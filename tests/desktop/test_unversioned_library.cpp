// A library without a version export.
extern "C" __attribute__((visibility("default"))) int something_else() { return 1; }
