/* Stands in for the PB compiler: only its executable type matters. */
int main(void) {
    return 0;
}
