// setup_info.h - the setup record and the file-set table.
//
// WinMain owns the one record for the whole run and passes its address,
// always named si, to every driver function.
#pragma once

#include <windows.h>
#include <stdio.h>

enum { MAX_FILE_SETS = 10 };

// Platform values, as GetVersionExA reports them.
enum { PLATFORM_WIN95 = 1, PLATFORM_NT = 2 };

// Kinds of source image.
enum { IMAGE_SINGLE_DIR = 1, IMAGE_FLOPPY = 2, IMAGE_CDROM = 4 };

struct _ProgItems {
    char name[256];
    char exe_path[260];
    char icon_path[260];
    struct _ProgItems *next;
};

struct _PathItems {
    char path[256];
    struct _PathItems *next;
};

struct _EnvironItems {
    char var[256];
    char value[256];
    struct _EnvironItems *next;
};

struct _InfoItems {
    char name[256];
    char app_exe_path[260];
    char info_file[260];
    char icon_path[260];
    struct _InfoItems *next;
};

struct _AppItems {
    char name[256];
    char app_exe_path[260];
    char icon_path[260];
    char app_args[512];
    int sys_app;
    struct _AppItems *next;
};

struct _fileset_info {
    char name[256];
    char software_name[256];
    char major_version[256];
    char minor_version[256];
    char release[256];
    char cpu_type[256];
    int selected;
    int express;
    unsigned long seek_value;
    unsigned long size;
    int starting_diskid;
    struct _ProgItems *prog_items, *cur_prog_item;
    struct _PathItems *path_items, *cur_path_item;
    struct _EnvironItems *environ_items, *cur_environ_item;
    struct _InfoItems *info_items, *cur_info_item;
    struct _AppItems *app_items, *cur_app_item;
    HKEY hkKey;
};

struct _setup_info {
    int platform;
    HINSTANCE hInst;
    int verbose;
    int compressed_files;
    int image_type;
    char company_name[256];
    char sys_dir[260];
    char expand_path[260];
    char current_dir[260];
    char src_dir[260];
    char dst_dir[260];
    char temp_dir[260];
    char src_drive[3];
    char dst_drive[3];
    unsigned src_drive_type;
    unsigned dst_drive_type;
    char setup_inf_file[260];
    FILE *setup_inf_ptr;
    int installType;
    long total_disk_space_req;
    long total_disk_space_available;
    int current_diskid;
    HWND hProgBarDlg;
    char input_line_buf[512];
    char output_buf[512];
    struct _fileset_info file_set_list[MAX_FILE_SETS];
    int num_file_sets;
    char *token;
    char *line_ptr;
    int begin;
    char src_disk_dir[260];
    char dir[256];
    char fname[256];
    char ext[256];
    char unique_src_fname[256];
    char temp_src_path[520];
    char temp_dst_path[520];
    char temp_temp_path[520];
    char temp_src_short_path[260];
    char system_buf[830];
    unsigned long bytes_written_to_disk;
    FILE *tmp_file_ptr;
    double percent_done;
    int process_created;
    STARTUPINFOA process_startup_info;
    PROCESS_INFORMATION process_info;
    // The one-file medium's archive, open for the run; null for a medium
    // of directories.
    struct zip_archive *archive;
};
