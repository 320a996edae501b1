/* The floor for renaming a folder's files: readdir, then one
 * renameat2(RENAME_NOREPLACE) per plain file, adding a prefix. Nothing else:
 * no sorting, no record, no checks beyond what the kernel does. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: rename_floor FOLDER PREFIX\n");
        return 2;
    }
    DIR* dir = opendir(argv[1]);
    if (!dir)
        return 2;
    int fd = dirfd(dir);
    size_t cap = 1024, n = 0;
    char** names = malloc(cap * sizeof *names);
    struct dirent* e;
    while ((e = readdir(dir))) {
        if (e->d_type != DT_REG)
            continue;
        if (n == cap)
            names = realloc(names, (cap *= 2) * sizeof *names);
        names[n++] = strdup(e->d_name);
    }
    int failed = 0;
    char target[4096];
    for (size_t i = 0; i < n; ++i) {
        snprintf(target, sizeof target, "%s%s", argv[2], names[i]);
        if (renameat2(fd, names[i], fd, target, RENAME_NOREPLACE) != 0)
            ++failed;
    }
    closedir(dir);
    return failed ? 1 : 0;
}
