// Entry point; the engine and the command line are being built.
int main() { return 0; }
