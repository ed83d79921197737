// Start-up of bqTest.
int main() { return 0; }
