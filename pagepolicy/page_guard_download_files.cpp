// Where a download the page guard let through is written: a file the user
// chooses, one download at a time.

#include "page_guard.h"
#include "page_guard_internal.h"

#include <cstdio>
#include <string_view>
#include <utility>

namespace {

bool g_downloadRunning = false;

void AskWithFileChooser(const std::filesystem::path& folder, const std::string& name,
                        std::function<void(std::optional<std::filesystem::path>)> answer) {
    GtkFileChooserNative* chooser =
        gtk_file_chooser_native_new("Save Download", nullptr, GTK_FILE_CHOOSER_ACTION_SAVE, nullptr, nullptr);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(chooser), FALSE);
    gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(chooser), TRUE);
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), folder.c_str());
    gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), name.c_str());
    auto* callback = new std::function<void(std::optional<std::filesystem::path>)>(std::move(answer));
    g_signal_connect(
        chooser, "response", G_CALLBACK(+[](GtkNativeDialog* dialog, gint response, gpointer data) {
            auto* answer = static_cast<std::function<void(std::optional<std::filesystem::path>)>*>(data);
            std::optional<std::filesystem::path> chosen;
            if (response == GTK_RESPONSE_ACCEPT) {
                if (gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
                    chosen = file;
                    g_free(file);
                }
            }
            (*answer)(chosen);
            delete answer;
            g_object_unref(dialog);
        }),
        callback);
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(chooser));
}

DownloadQuestion& Question() {
    static DownloadQuestion question = AskWithFileChooser;
    return question;
}

std::filesystem::path DownloadFolder() {
    const char* folder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    return folder != nullptr ? folder : g_get_home_dir();
}

void EndDownload(WebKitDownload*, gpointer) {
    g_downloadRunning = false;
}

gboolean OnDecideDestination(WebKitDownload* download, gchar* suggested, gpointer) {
    g_object_ref(download);
    Question()(DownloadFolder(), PlainFileName(suggested != nullptr ? suggested : ""),
               [download](std::optional<std::filesystem::path> chosen) {
                   if (chosen) {
                       if (gchar* uri = g_filename_to_uri(chosen->c_str(), nullptr, nullptr)) {
                           // The chooser has asked before replacing a file.
                           webkit_download_set_allow_overwrite(download, TRUE);
                           webkit_download_set_destination(download, uri);
                           g_free(uri);
                       }
                   } else {
                       webkit_download_cancel(download);
                   }
                   g_object_unref(download);
               });
    return TRUE;
}

// Every download of every view passes here. Only one the user's click let
// through (see PageGuard::OnResponse) or one of the program's own goes on.
void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer) {
    PageGuard* guard = GuardOf(webkit_download_get_web_view(download));
    if (guard == nullptr || !guard->TakeDownloadPermission() || g_downloadRunning) {
        std::fprintf(stderr, "scoutwell: a download no click asked for was refused\n");
        webkit_download_cancel(download);
        return;
    }
    g_downloadRunning = true;
    g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), nullptr);
    g_signal_connect(download, "finished", G_CALLBACK(EndDownload), nullptr);
}

} // namespace

void WatchDownloads(WebKitWebContext* context) {
    g_signal_connect(context, "download-started", G_CALLBACK(OnDownloadStarted), nullptr);
}

bool DownloadRunning() {
    return g_downloadRunning;
}

void SetDownloadQuestion(DownloadQuestion question) {
    Question() = question ? std::move(question) : DownloadQuestion(AskWithFileChooser);
}

namespace {

// No Linux file system takes a longer name.
constexpr std::size_t LongestFileName = 255;
// A longer ending after the last dot is part of the name rather than a type.
constexpr std::size_t LongestExtension = 32;

// The name cut to the longest the file system takes, at a character
// boundary, keeping its extension so the file still opens with its program.
std::string ShortenedFileName(const std::string& name) {
    if (name.size() <= LongestFileName)
        return name;
    const auto dot = name.rfind('.');
    const std::string extension =
        dot != std::string::npos && dot > 0 && name.size() - dot <= LongestExtension ? name.substr(dot) : "";
    std::size_t cut = LongestFileName - extension.size();
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut; // a character is kept whole or not at all
    return name.substr(0, cut) + extension;
}

} // namespace

std::string PlainFileName(const std::string& suggested) {
    gchar* valid = g_utf8_make_valid(suggested.c_str(), static_cast<gssize>(suggested.size()));
    std::string_view name = valid;
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    std::string plain;
    for (unsigned char c : name) {
        if (c >= 0x20 && c != 0x7F)
            plain += static_cast<char>(c);
    }
    g_free(valid);
    const auto start = plain.find_first_not_of(". ");
    plain = start == std::string::npos ? std::string() : plain.substr(start);
    return plain.empty() ? "download" : ShortenedFileName(plain);
}
