#pragma once

typedef struct _WebKitDownload WebKitDownload;

// A page's downloads need the user's click and the user's choice of file;
// downloads the program starts for itself do not. Mark such a download right
// after starting it (webkit_web_context_download_uri or the like) and before
// returning to the event loop, and the pages' checks let it pass.
void MarkProgramDownload(WebKitDownload* download);
bool IsProgramDownload(WebKitDownload* download);
