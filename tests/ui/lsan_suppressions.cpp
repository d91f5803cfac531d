// GTK and the libraries below it keep what they allocate at start-up until
// the process ends; the leak check of this test program is for our code.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libgtk-3.so\n"
         "leak:libgdk-3.so\n"
         "leak:libpango-1.0.so\n"
         "leak:libpangoft2-1.0.so\n"
         "leak:libcairo.so\n"
         "leak:libgobject-2.0.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libgio-2.0.so\n"
         "leak:libwx_gtk3u_core-3.2.so\n"
         "leak:libwx_baseu-3.2.so\n";
}
