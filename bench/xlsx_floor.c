/* The floor for the workbook figure: libxlsxwriter in its constant-memory mode writing the
 * benchmark's full record table (32768 rows x 8 distinct texts, every cell centred) as .xlsx.
 * Prints "time_ms <ms>" and "writer_kb <peak resident growth while writing>". */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <xlsxwriter.h>

enum { kRows = 32768, kColumns = 8, kTextBytes = 24 };

static long statusKb(const char* field) {
    FILE* status = fopen("/proc/self/status", "r");
    char line[256];
    long value = -1;
    size_t length = strlen(field);
    while (status && fgets(line, sizeof line, status)) {
        if (strncmp(line, field, length) == 0 && line[length] == ':') {
            value = atol(line + length + 1);
        }
    }
    if (status) {
        fclose(status);
    }
    return value;
}

static double nowMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1e3 + (double)now.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.xlsx\n", argv[0]);
        return 2;
    }
    static const char* const header[kColumns] = {"NO.", "R",  "\xCF\x81", "\xCF\x81Lenght",
                                                 "Rc",  "Rp", "I",        "V"};
    char(*table)[kColumns][kTextBytes] = malloc(sizeof(*table) * kRows);
    for (int c = 0; c < kColumns; ++c) {
        snprintf(table[0][c], kTextBytes, "%s", header[c]);
    }
    for (int k = 1; k < kRows; ++k) {
        snprintf(table[k][0], kTextBytes, "%d", k);
        snprintf(table[k][1], kTextBytes, "%d.%d\xCE\xA9", k, k % 100);
        snprintf(table[k][2], kTextBytes, "%d.%dK\xCE\xA9m", k, k % 10);
        snprintf(table[k][3], kTextBytes, "%dm", k);
        snprintf(table[k][4], kTextBytes, "%d\xCE\xA9", k * 3);
        snprintf(table[k][5], kTextBytes, "%d\xCE\xA9", k * 7);
        snprintf(table[k][6], kTextBytes, "%d.%dmA", k, k % 9);
        snprintf(table[k][7], kTextBytes, "%d.%dV", k, k % 7);
    }

    FILE* clearRefs = fopen("/proc/self/clear_refs", "w"); /* peak from here on */
    if (clearRefs) {
        fputs("5", clearRefs);
        fclose(clearRefs);
    }
    const long before = statusKb("VmRSS");
    const double start = nowMs();
    lxw_workbook_options options = {.constant_memory = LXW_TRUE, .tmpdir = NULL};
    lxw_workbook* workbook = workbook_new_opt(argv[1], &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, NULL);
    lxw_format* centred = workbook_add_format(workbook);
    format_set_align(centred, LXW_ALIGN_CENTER);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            worksheet_write_string(sheet, r, c, table[r][c], centred);
        }
    }
    const lxw_error error = workbook_close(workbook);
    const double elapsed = nowMs() - start;
    printf("time_ms %.3f\nwriter_kb %ld\n", elapsed, statusKb("VmHWM") - before);
    free(table);
    return error == LXW_NO_ERROR ? 0 : 1;
}
