// Placeholder until the settings store lands.
int main() { return 2; }
