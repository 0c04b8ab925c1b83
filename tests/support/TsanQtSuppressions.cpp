// Qt from the distribution is not built with ThreadSanitizer, so the sanitizer cannot see the
// locks inside it. Qt Test's watchdog thread ends through Qt's own synchronisation and is
// reported as a race that is none; only that is silenced. Everything of the program, the device
// library and the tests stays checked (a deliberate race in a test is still reported).
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions() {
    return "race:QWaitCondition::~QWaitCondition\n"
           "called_from_lib:libQt6Test.so.6\n";
}
