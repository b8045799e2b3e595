// Entry point of the clipboard viewer tray program.
int main() { return 0; }
