// Placeholder until the stub program lands.
int main() { return 1; }
