/* The floor for the record text file figure: the bytes of the benchmark's full record table
 * (UTF-8) written with fprintf into a file beside the target, synced and renamed over it, as
 * the program's safe write does. Prints "time_ms <ms>". */
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { kRecords = 32767, kColumns = 8 };

static double nowMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1e3 + (double)now.tv_nsec / 1e6;
}

static void printLine(FILE* out, const char* const cells[kColumns], const int gaps[kColumns - 1]) {
    fputs(cells[0], out);
    for (int c = 1; c < kColumns; ++c) {
        fprintf(out, "%*s%s", gaps[c - 1], "", cells[c]);
    }
    fputs("\r\n", out);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.txt\n", argv[0]);
        return 2;
    }
    static const char* const header[kColumns] = {"NO.", "R",  "\xCF\x81", "\xCF\x81Lenght",
                                                 "Rc",  "Rp", "I",        "V"};
    static const int headerGaps[] = {2, 6, 6, 7, 6, 12, 12};
    static const int gapsNoRho[] = {2, 6, 6, 7, 6, 7, 7};
    static const int gapsWithRho[] = {2, 6, 8, 9, 8, 7, 7};
    char temporary[4096];
    snprintf(temporary, sizeof temporary, "%s.floor-tmp", argv[1]);

    const double start = nowMs();
    FILE* out = fopen(temporary, "wb");
    if (!out) {
        return 1;
    }
    printLine(out, header, headerGaps);
    for (int k = 1; k <= kRecords; ++k) {
        char number[16];
        snprintf(number, sizeof number, "%d", k);
        const char* cells[kColumns] = {number, "", "", "", "", "", "", ""};
        switch (k % 4) {
            case 0:
                cells[1] = "12.34K\xCE\xA9";
                cells[4] = "2.00K\xCE\xA9";
                cells[5] = "3.00K\xCE\xA9";
                break;
            case 1:
                cells[2] = "123.4\xCE\xA9m";
                cells[3] = "5.0m";
                cells[4] = "2.00K\xCE\xA9";
                cells[5] = "3.00K\xCE\xA9";
                break;
            case 2:
                cells[6] = "12.3mA";
                break;
            default:
                cells[7] = "50.0V";
                break;
        }
        printLine(out, cells, k % 4 == 1 ? gapsWithRho : gapsNoRho);
    }
    if (fflush(out) != 0 || fsync(fileno(out)) != 0 || fclose(out) != 0 ||
        rename(temporary, argv[1]) != 0) {
        return 1;
    }
    printf("time_ms %.3f\n", nowMs() - start);
    return 0;
}
