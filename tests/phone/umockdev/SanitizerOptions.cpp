// Under AddressSanitizer: the umockdev preload library comes before the
// sanitizer runtime in the list of loaded libraries, which ASan refuses
// unless told that this order is meant; and the testbed's GLib types and
// threads live until the process ends.
extern "C" {

const char* __asan_default_options();
const char* __lsan_default_suppressions();

const char* __asan_default_options()
{
    return "verify_asan_link_order=0";
}

const char* __lsan_default_suppressions()
{
    return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgio-2.0.so\nleak:libumockdev.so\n"
           "leak:libumockdev-preload.so\n";
}

} // extern "C"
