/* The floor for listing a folder as `tarnwick-cli list` does: readdir, then per
 * plain file one statx (size, times, birth time) and one getxattr of the
 * stored attributes, one line printed per file. No sorting, no type names. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/xattr.h>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    DIR* dir = opendir(argv[1]);
    if (!dir)
        return 2;
    char path[4096];
    char attr[64];
    struct dirent* e;
    unsigned long n = 0;
    while ((e = readdir(dir))) {
        if (e->d_type != DT_REG || e->d_name[0] == '.')
            continue;
        snprintf(path, sizeof path, "%s/%s", argv[1], e->d_name);
        struct statx sx;
        if (statx(AT_FDCWD, path, 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
            continue;
        ssize_t a = getxattr(path, "user.DOSATTRIB", attr, sizeof attr);
        printf("%lu\t%s\t%llu\t%zd\t%lld\t%lld\t%lld\n", ++n, e->d_name, (unsigned long long)sx.stx_size, a,
               (long long)sx.stx_btime.tv_sec, (long long)sx.stx_mtime.tv_sec, (long long)sx.stx_atime.tv_sec);
    }
    closedir(dir);
    return 0;
}
