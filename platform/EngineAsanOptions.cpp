// Built into every program that loads the browser engine, in sanitizer builds
// only. While a page is destroyed the engine deletes an object of its own
// (88 bytes) through a pointer to a smaller type (24 bytes), which
// AddressSanitizer reports as new-delete-type-mismatch. Unlike leaks, that
// report cannot be suppressed by the library it comes from: only its one
// check can go, so it goes in these programs. Every other check stays on.
extern "C" const char* __asan_default_options() {
  return "new_delete_type_mismatch=0";
}
