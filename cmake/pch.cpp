// Compiles the shared precompiled header once.
