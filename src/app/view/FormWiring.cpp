#include "app/view/FormWiring.h"

#include <array>

namespace fendralwin {

namespace {

using enum ControlEvent;
using F = frmFendralWrapper;

// Which handler of the window object an event of the window or of one of its controls runs.
struct EventBinding {
    EventSource& (*source)(const FormControls&);
    ControlEvent event;
    void (F::*handler)();
};

// Binding a control that raises no events does not compile.
template <auto Member>
EventSource& sourceOf(const FormControls& controls) {
    return *(controls.*Member);
}

constexpr std::array<EventBinding, 15> kEvents{{
    {sourceOf<&FormControls::window>, Refresh, &F::Form_Refresh},
    {sourceOf<&FormControls::drvIn>, Change, &F::drvIn_Change},
    {sourceOf<&FormControls::dirIn>, Change, &F::dirIn_Change},
    {sourceOf<&FormControls::filIn>, Click, &F::filIn_Click},
    {sourceOf<&FormControls::drvOut>, Change, &F::drvOut_Change},
    {sourceOf<&FormControls::dirOut>, Change, &F::dirOut_Change},
    {sourceOf<&FormControls::txtOutputFile>, Change, &F::txtOutputFile_Change},
    {sourceOf<&FormControls::hscrlRadius>, Scroll, &F::hscrlRadius_Scroll},
    {sourceOf<&FormControls::hscrlRadius>, Change, &F::hscrlRadius_Change},
    {sourceOf<&FormControls::hscrlMaxDiff>, Scroll, &F::hscrlMaxDiff_Scroll},
    {sourceOf<&FormControls::hscrlMaxDiff>, Change, &F::hscrlMaxDiff_Change},
    {sourceOf<&FormControls::txtRadius>, Change, &F::txtRadius_Change},
    {sourceOf<&FormControls::txtMaxDiff>, Change, &F::txtMaxDiff_Change},
    {sourceOf<&FormControls::cmdRunFendral>, Click, &F::cmdRunFendral_Click},
    {sourceOf<&FormControls::cmdExit>, Click, &F::cmdExit_Click},
}};

} // namespace

FormWiring::FormWiring(IFormWindow& window, IMessageBoxes& messageBoxes, Platform& platform,
                       const std::string& startFolder)
    : form_(std::make_unique<frmFendralWrapper>(window.controls(), messageBoxes, platform)) {
    form_->openLists(startFolder);
    form_->Form_Load();
    const FormControls controls = window.controls();
    for (const EventBinding& binding : kEvents) {
        binding.source(controls).onEvent(
            binding.event, [this, binding] { handle(binding.event, binding.handler); });
    }
    window.onDrop(
        [form = form_.get()](const std::vector<std::string>& paths, WindowHalf half, bool drop) {
            return drop ? form->Form_OLEDragDrop(paths, half) : form->Form_OLEDragOver(paths, half);
        });
}

void FormWiring::handle(ControlEvent event, void (F::*handler)()) {
    if (event == Refresh && running_ > 0) {
        refreshWaits_ = true;
        return;
    }
    run(handler);
    while (running_ == 0 && refreshWaits_) {
        refreshWaits_ = false;
        run(&F::Form_Refresh);
    }
}

void FormWiring::run(void (F::*handler)()) {
    // Handlers report their failures themselves; none leaves by an exception.
    ++running_;
    (form_.get()->*handler)();
    --running_;
}

} // namespace fendralwin
