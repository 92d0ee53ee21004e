#include "program_catalogue.h"

#include "shader_program.h"

#include <iostream>

namespace {

constexpr const char* kPass = kImagePassVertex;

// In the order of ProgramId.
const ProgramEntry kEntries[kProgramCount] = {
    {"Color constraints Shader : ",
     "draw/color_constraints.vert",
     "draw/color_constraints.frag",
     "",
     {}},
    {"Gradient pair Shader : ", "draw/gradient_pair.vert", "draw/gradient_pair.frag", "", {}},

    {"Div Shader : ", kPass, "solver/div.frag", "", {"gxMap", "gyMap"}},
    {"Restriction Shader : ", kPass, "solver/restrict.frag", "", {"imgMap"}},
    {"Diffusion Shader : ", kPass, "solver/anisotropic_diffusion.frag", "", {"imgMap", "blurMap"}},
    {"Restrict Color Shader : ", kPass, "solver/restrict_color.frag", "", {"imgMap"}},
    {"Blur Threshold Shader : ", kPass, "solver/blur_threshold.frag", "", {"blurMap"}},
    {"Downsample Shader : ", kPass, "solver/downsample.frag", "", {"imgMap"}},
    {"Compose Channel Shader : ",
     kPass,
     "solver/compose_channel.frag",
     "",
     {"channelMap", "referenceMap", "blurMap"}},
    {"Picture Output Shader : ",
     "solver/picture_output.vert",
     "solver/picture_output.frag",
     "",
     {"picture"}},
    {"Layer Over Shader : ", kPass, "solver/layer_over.frag", "", {"layerMap", "belowMap"}},

    {"Multigrid Shader mg_pack_finest.frag : ",
     kPass,
     "solver/mg_pack_finest.frag",
     "",
     {"imgMap", "fixedMap"}},
    {"Multigrid Shader mg_unpack_finest.frag : ",
     kPass,
     "solver/mg_unpack_finest.frag",
     "",
     {"redMap", "blackMap"}},
    {"Multigrid Shader mg_smooth_finest.frag : ",
     kPass,
     "solver/mg_smooth_finest.frag",
     "",
     {"otherMap", "divMap", "fixedMap"}},
    {"Multigrid Shader mg_residual_finest.frag : ",
     kPass,
     "solver/mg_residual_finest.frag",
     "",
     {"redMap", "blackMap", "divMap", "fixedMap", "coarseStencilC"}},
    {"Multigrid Shader mg_prolong_finest.frag : ",
     kPass,
     "solver/mg_prolong_finest.frag",
     "",
     {"blackMap", "correctionMap", "fixedMap"}},
    {"Multigrid Shader mg_smooth.frag : ",
     kPass,
     "solver/mg_smooth.frag",
     "",
     {"imgMap", "rhsMap", "stencilA", "stencilB", "stencilC"}},
    {"Multigrid Shader mg_smooth_zero.frag : ",
     kPass,
     "solver/mg_smooth_zero.frag",
     "",
     {"rhsMap", "stencilA", "stencilC"}},
    {"Multigrid Shader mg_restrict_residual.frag : ",
     kPass,
     "solver/mg_restrict_residual.frag",
     "",
     {"imgMap", "rhsMap", "stencilA", "stencilB", "stencilC", "coarseStencilC"}},
    {"Multigrid Shader mg_prolong.frag : ",
     kPass,
     "solver/mg_prolong.frag",
     "",
     {"imgMap", "correctionMap", "fixedMap"}},
    {"Multigrid Shader mg_prolong_smooth.frag : ",
     kPass,
     "solver/mg_prolong_smooth.frag",
     "",
     {"imgMap", "correctionMap", "rhsMap", "stencilA", "stencilB", "stencilC"}},
    {"Multigrid Shader mg_galerkin.frag : ",
     kPass,
     "solver/mg_galerkin.frag",
     "",
     {"stencilA", "stencilB", "stencilC"}},
    {"Multigrid Shader mg_galerkin.frag : ",
     kPass,
     "solver/mg_galerkin.frag",
     "#define FROM_MASK\n",
     {"stencilA"}},
    {"Multigrid Shader mg_coarsest.frag : ",
     kPass,
     "solver/mg_coarsest.frag",
     "",
     {"rhsMap", "stencilA", "stencilB", "stencilC"}},
    {"Multigrid Shader mg_pull.frag : ", kPass, "solver/mg_pull.frag", "", {"fineMap", "knownMap"}},
    {"Multigrid Shader mg_push.frag : ",
     kPass,
     "solver/mg_push.frag",
     "",
     {"pulledMap", "knownMap", "coarserMap"}},
    {"Multigrid Shader mg_push.frag : ",
     kPass,
     "solver/mg_push.frag",
     "#define COARSEST\n",
     {"pulledMap", "knownMap"}},
    {"Multigrid Shader mg_change_finest.frag : ",
     kPass,
     "solver/mg_change_finest.frag",
     "",
     {"redMap", "blackMap", "redBefore", "blackBefore"}},
    {"Multigrid Shader mg_max_reduce.frag : ", kPass, "solver/mg_max_reduce.frag", "", {"imgMap"}},

    {"Bare Pass Shader : ", kPass, "gl/jacobi_laplace.frag", "", {"imgMap"}},
};

} // namespace

const ProgramEntry& programEntry(ProgramId id)
{
    const int index = int(id);
    return kEntries[index >= 0 && index < kProgramCount ? index : kProgramCount - 1];
}

bool createProgram(ShaderProgram& program, ProgramId id, DiffusedChannels channels)
{
    const ProgramEntry& entry = programEntry(id);
    QByteArray definitions = entry.definitions;
    if (channels == DiffusedChannels::ColourAndOpacity)
        definitions.prepend("#define DIFFUSE_OPACITY\n");
    if (!program.create(shaderPath(entry.vertex), shaderPath(entry.fragment), definitions)) {
        std::cerr << entry.failurePrefix << program.log().constData() << std::endl;
        return false;
    }
    program.use();
    for (int unit = 0; unit < kMaxProgramSamplers && entry.samplers[unit]; ++unit)
        program.setSampler(entry.samplers[unit], unit);
    ShaderProgram::release();
    return true;
}
