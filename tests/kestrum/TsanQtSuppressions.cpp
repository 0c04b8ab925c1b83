// Qt from the distribution is not built with ThreadSanitizer, so the sanitizer cannot see the
// locks inside it (the test library's watchdog thread, QThread start-up) and reports races there
// that are not races. Only reports whose stacks pass through Qt's own libraries are silenced;
// everything in the program and the device library stays checked.
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\n"
           "race:libQt6Test.so\n";
}
