// A shared library that is not a VST 2 plug-in: it exports no entry point. The Ardour tests
// are run on it to show that they fail when Ardour finds no plug-in.
extern "C" __attribute__((visibility("default"))) int sparkwellHostTestsNotAPlugin() {
  return 1;
}
