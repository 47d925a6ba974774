// Stands in for a running application in the hook tests: without arguments
// it waits to be found by name; with arguments it appends them, one per
// line, to the file named by HALVORA_FINTA_LOG and exits.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        for (int i = 0; i < 600; ++i)
            sleep(1);
        return 0;
    }
    const char* log = std::getenv("HALVORA_FINTA_LOG");
    if (!log)
        return 1;
    FILE* f = std::fopen(log, "a");
    if (!f)
        return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(f, "%s\n", argv[i]);
    std::fclose(f);
    return 0;
}
