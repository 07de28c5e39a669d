// The baseline of the benchmark: a program built like Wendelmarquistone (same
// compiler, flags and static run-time) that does nothing.
int main() {
  return 0;
}
