// The scratch files of the run and their removal.
#include "base/scratch_files.h"

#include <stdio.h>
#include <stdlib.h>

// The file being written, for a quit or fatal stop in its middle.
static struct staged_file *open_stage;

void SetOpenStage(struct staged_file *stage)
{
    open_stage = stage;
}

void DiscardStage(struct staged_file *stage)
{
    if (stage->writer != INVALID_HANDLE_VALUE)
        CloseHandle(stage->writer);
    stage->writer = INVALID_HANDLE_VALUE;
    if (stage->path[0] != '\0')
        DeleteFileA(stage->path);
    stage->path[0] = '\0';
    open_stage = NULL;
}

void RemoveScratchFiles(struct _setup_info *si)
{
    // A quit in the middle of a file: the earlier file stays, the part
    // written goes.
    if (open_stage != NULL)
        DiscardStage(open_stage);
    // The stream is open only once the private copy exists; the system
    // deletes that copy as the stream closes, where it can.
    if (si->setup_inf_ptr) {
        fclose(si->setup_inf_ptr);
        si->setup_inf_ptr = NULL;
        DeleteFileA(si->setup_inf_file);
    }
}

static struct _setup_info *scratch_owner;

static void remove_at_exit(void)
{
    RemoveScratchFiles(scratch_owner);
}

void RemoveScratchFilesAtExit(struct _setup_info *si)
{
    if (scratch_owner == NULL)
        atexit(remove_at_exit);
    scratch_owner = si;
}
