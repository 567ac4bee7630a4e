// Drawing text fills the font library's process-wide cache, which is never freed; the leak
// checker of the sanitizer build is told to let that one go and still reports ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
