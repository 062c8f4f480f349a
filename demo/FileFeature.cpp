// File: print the grid through the system's print dialog, preview its pages, exit.
#include "demo/DemoFeatures.h"
#include "demo/DemoFrame.h"
#include "framework/Print.h"
#include "framework/PrintPreview.h"

namespace {

void Print(CDemoFrame& frame) {
    HDC printer = ChoosePrinter(frame.m_hWnd);
    if (!printer) return;  // cancelled, or no printer
    CPrintSourceOf<CGridCtrl> source(frame.Grid());
    const int pages = PrintDocument(source, printer, "GridDemo");
    ::DeleteDC(printer);
    if (pages < 0) frame.ShowMessage("The grid could not be printed.", MB_OK | MB_ICONWARNING);
}

void Preview(CDemoFrame& frame) {
    // Without a printer the pages measure like the screen.
    HDC printer = DefaultPrinter();
    CPrintSourceOf<CGridCtrl> source(frame.Grid());
    CPrintPreviewWnd preview(source, printer);
    preview.RunModal(frame.m_hWnd, "GridDemo - Print Preview");
    if (printer) ::DeleteDC(printer);
}

}  // namespace

void AddFileFeature(DemoFeatures& features) {
    const std::string menu = "&File";
    DemoCommand print;
    print.menu = menu;
    print.text = "&Print...\tCtrl+P";
    print.run = Print;
    print.key = 'P';
    print.keyFlags = FCONTROL;
    features.commands.push_back(print);

    DemoCommand preview;
    preview.menu = menu;
    preview.text = "Print Pre&view";
    preview.run = Preview;
    features.commands.push_back(preview);

    features.Separator(menu);
    DemoCommand exit;
    exit.menu = menu;
    exit.text = "E&xit";
    exit.run = [](CDemoFrame& frame) { frame.PostMessage(WM_CLOSE); };
    features.commands.push_back(exit);
}
