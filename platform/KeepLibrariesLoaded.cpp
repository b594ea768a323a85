// Built into every program of a sanitizer build. Libraries that the toolkit
// or the graphics stack load for a while and close again before the process
// ends leave their leaks behind as frames of "<unknown module>", which no
// suppression by library can match and no reader can trace. Closing nothing
// keeps every library mapped until the leak report names it.
extern "C" int dlclose(void*) {
  return 0;
}
