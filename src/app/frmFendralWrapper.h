#pragma once

#include "app/view/ControlTable.h"
#include "app/view/FormControls.h"
#include "platform/Platform.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace fendralwin {

inline constexpr const char* kAppTitle = "FendralWin";

// The window object: its folder variables and the handlers of its controls' events. Each handler
// runs to completion; handlers meet only through the variables and the controls.
class frmFendralWrapper {
public:
    // Folder texts (ending with the separator) of the program, input and output folders.
    struct Variables {
        std::string strAppDir;
        std::string strInDir;
        std::string strOutDir;
    };

    frmFendralWrapper(FormControls controls, IMessageBoxes& messageBoxes, Platform& platform);
    // Releasing the window object is its Terminate event.
    ~frmFendralWrapper();
    frmFendralWrapper(const frmFendralWrapper&) = delete;
    frmFendralWrapper& operator=(const frmFendralWrapper&) = delete;

    const Variables& variables() const { return vars_; }

    // Lifecycle. Before Load, and before any event is handled, the lists open on the start
    // folder, or on the program folder when that cannot be opened.
    void openLists(const std::string& startFolder);
    void Form_Load();
    void Form_Terminate() noexcept;
    void cmdExit_Click();
    // The disk may have changed: the lists read their drives and folders again. A listed folder
    // that vanished (with its drive, perhaps) gives way to the nearest one above it that opens,
    // else the program folder, as if the user had opened that; a chosen file that vanished is
    // chosen no more.
    void Form_Refresh();

    // Input choosers
    void drvIn_Change();
    void dirIn_Change();
    void filIn_Click();

    // Output choosers
    void drvOut_Change();
    void dirOut_Change();
    void txtOutputFile_Change();

    // Job settings
    void hscrlRadius_Scroll();
    void hscrlRadius_Change();
    void hscrlMaxDiff_Scroll();
    void hscrlMaxDiff_Change();
    void txtRadius_Change();
    void txtMaxDiff_Change();

    // The job
    void cmdRunFendral_Click();

    // Paths handed over from outside, each ending as the same choice made in the lists would: a
    // TIFF file is chosen in the input lists as a click chooses it, a folder is opened.
    // The path the program was started with opens both sides' lists when it is a folder; one
    // that cannot be used leaves the window as it is and says why in a plain box.
    void openGivenPath(const std::string& path);
    // Whether a drop of `paths` on a half would be taken: the first of them that the half can
    // open (a folder on either half, a TIFF file on the input half) counts.
    bool Form_OLEDragOver(const std::vector<std::string>& paths, WindowHalf half) const;
    // Opens what Form_OLEDragOver picks; false, changing nothing, when it picks nothing.
    bool Form_OLEDragDrop(const std::vector<std::string>& paths, WindowHalf half);

    // True when an input file is selected and the output box holds a name.
    bool IsValid() const;
    // True when the input and output paths name the same file.
    bool IsSameFile() const;
    // Writes the job script and returns its path; shows any failure itself and returns nothing.
    std::optional<std::string> WriteBatchFile();

    std::string inputPath() const;
    std::string outputPath() const;

private:
    // A path that the window can open: a folder, or a file that the input file list lists.
    struct Openable {
        bool isFolder;
        std::string path;
    };
    // What `path` is to the window, or why it cannot open it.
    std::variant<Openable, std::string> examine(const std::string& path) const;
    std::optional<Openable> dropChoice(const std::vector<std::string>& paths,
                                       WindowHalf half) const;
    // Opens the folder in the lists of the halves named, or chooses the file; false when the
    // lists refuse it.
    bool open(const Openable& openable, bool input, bool output);

    // A setting's box, the bar beside it and the bar's design (its steps: a bar at 15 shows a
    // Radius of 1.5), and the message that refuses a text.
    struct Setting {
        ITextBox& box;
        IScrollBar& bar;
        const ControlLayout& design;
        const char* refusal;
    };
    Setting radius() const;
    Setting maxDiff() const;

    void openNearestFolderLeft(IFolderList& list);
    void reevaluateReadiness();
    void showOutputPath();
    // Every move of a bar by the user writes its value into its box.
    void showBarInBox(const Setting& setting);
    // A typed setting is refused unless numeric; one that the bar can show moves the bar.
    void followTypedSetting(const Setting& setting);
    bool runChecksPass();

    FormControls c_;
    IMessageBoxes& messageBoxes_;
    Platform& platform_;
    Variables vars_;
};

} // namespace fendralwin
