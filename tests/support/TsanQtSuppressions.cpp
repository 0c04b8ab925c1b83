// SPDX-License-Identifier: GPL-3.0-or-later
// Qt from the distribution is not built with ThreadSanitizer, so the sanitizer cannot see the
// locks inside it: Qt's own threads (the thread pool that converts and scales large images, its
// task queue, Qt Test's watchdog) and the memory Qt copies under its own locks are reported as
// races that are none. Only accesses made by Qt's code are silenced. Everything of the program,
// the device library and the tests stays checked (a deliberate race in a test is still
// reported); the hand-overs between the worker and the user-interface thread go through the
// program's own mutexes and an eventfd, never through Qt's event queue, so they stay visible.
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions() {
    return "race:QWaitCondition::~QWaitCondition\n"
           "called_from_lib:libQt6Test.so.6\n"
           "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n";
}
