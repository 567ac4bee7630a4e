// The font library keeps a cache for the life of the process, which the leak checker of the
// sanitizer build would report when the tests draw text; our own leaks are still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
