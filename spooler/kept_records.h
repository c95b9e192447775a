/*
 * What the run deletes from the spooler, kept so that a run that does not
 * install it can register it again.  The pages delete an earlier printer
 * (and its driver) of the model's name before anything is copied; a run
 * that then fails, or installs another model, must leave the user's
 * printers as it found them.
 *
 * The records live in heap blocks of the process heap, reached from
 * g_state.keptRecords, from the first deletion to the run's end: a device
 * mode and a security descriptor can run to tens of kilobytes.
 */
#ifndef SETUP_KEPT_RECORDS_H
#define SETUP_KEPT_RECORDS_H

#include <windows.h>

/* Before the printer behind `printer` (opened with full access) is
 * deleted: keeps its level-2 record, with its device mode and security
 * descriptor, and its printer data.  1 when it is kept or needs no keeping
 * (one the run registered itself, or one kept already); 0 when it could
 * not be kept, and the printer must then not be deleted.  *added is 1 when
 * this call kept a new record. */
int KeepPrinter(HANDLE printer, const char *name, int *added);
/* Before the driver of that name is deleted: keeps its level-6 record.  1
 * when kept or nothing to keep (the spooler lists no such driver), 0 when
 * it could not be kept: the driver must then not be deleted. */
int KeepDriver(const char *name, int *added);
/* The deletion was refused: the record the last Keep call added goes. */
void ForgetNewestPrinter(void);
void ForgetNewestDriver(void);

/* The run registered a driver or a printer of that name: deleting it
 * later (the install phase does) keeps nothing. */
void NoteRegisteredDriver(const char *name);
void NoteRegisteredPrinter(const char *name);

/* Room for the note PutBackRemovedRecords writes. */
#define PUT_BACK_NOTE_MAX 4096

/* At the run's end, once the driver files are back: registers again every
 * driver, then every printer with its printer data, that the run deleted,
 * except, after a completed install, those of the model's name (the new
 * ones replaced them); then sets the default printer back.  Releases the
 * records.  1 when everything went back; 0 otherwise, and `note` (`size`
 * bytes; may be NULL) then holds the English text for the user: a heading
 * and a line naming each record not put back with its error. */
int PutBackRemovedRecords(int completed, char *note, size_t size);
/* The records go without anything put back. */
void ReleaseKeptRecords(void);

#endif
