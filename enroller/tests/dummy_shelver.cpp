// Stands in for the placement program: the registration program only moves it.
int main() { return 0; }
