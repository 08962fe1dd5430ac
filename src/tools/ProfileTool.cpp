// Placeholder until the profile reader lands.
int main() { return 2; }
