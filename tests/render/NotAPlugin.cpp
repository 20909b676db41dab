// A shared library that loads fine but is no VST 2 plug-in: it exports
// neither VSTPluginMain nor main.
extern "C" __attribute__((visibility("default"))) int kettrixNotAPlugin() { return 42; }
