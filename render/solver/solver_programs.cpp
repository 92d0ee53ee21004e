#include "solver_programs.h"

#include "program_catalogue.h"

namespace {

// Each program of the set, what it is built as, and whether only an export solver builds it.
struct Slot {
    ShaderProgram SolverPrograms::*program;
    ProgramId id;
    bool exportOnly;
};

const Slot kSlots[] = {
    {&SolverPrograms::divProgram, ProgramId::Divergence, false},
    {&SolverPrograms::restrictProgram, ProgramId::Restrict, false},
    {&SolverPrograms::diffusionProgram, ProgramId::Diffusion, false},
    {&SolverPrograms::restrictColorProgram, ProgramId::RestrictColor, false},
    {&SolverPrograms::blurThresholdProgram, ProgramId::BlurThreshold, false},
    {&SolverPrograms::downsampleProgram, ProgramId::Downsample, false},
    {&SolverPrograms::composeChannelProgram, ProgramId::ComposeChannel, true},
    {&SolverPrograms::pictureOutputProgram, ProgramId::PictureOutput, false},
    {&SolverPrograms::layerOverProgram, ProgramId::LayerOver, false},
};

} // namespace

void SolverPrograms::create(bool forExport)
{
    for (const Slot& slot : kSlots) {
        if (forExport || !slot.exportOnly)
            createProgram(this->*slot.program, slot.id);
    }
}

bool SolverPrograms::allLinked(bool forExport) const
{
    for (const Slot& slot : kSlots) {
        if ((forExport || !slot.exportOnly) && !(this->*slot.program).isLinked())
            return false;
    }
    return true;
}
