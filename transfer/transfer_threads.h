// The workers of the file-store transfers. Each runs on its own thread
// while the progress dialog polls the job, and sets job->finished as its
// last action.
#pragma once

struct TransferJob;

// Opens the port, resets the modem, sends AT$JUPL and, once it is echoed,
// the local file with XModem; closes file and port.
void UploadThread(TransferJob* job);
// Opens the port, resets the modem, sends AT$JDNL and receives the file
// with XModem into the local path; closes file and port.
void DownloadThread(TransferJob* job);
