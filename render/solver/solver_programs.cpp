#include "solver_programs.h"

#include <iostream>

namespace {

// Each image program: its fragment file and the prefix its failure is reported with.
struct ProgramFiles {
    const char* fragment;
    const char* prefix;
};

} // namespace

void SolverPrograms::create(bool forExport)
{
    struct Entry {
        ShaderProgram* program;
        ProgramFiles files;
    };
    const Entry entries[] = {
        {&divProgram, {"div.frag", "Div Shader : "}},
        {&restrictProgram, {"restrict.frag", "Restriction Shader : "}},
        {&diffusionProgram, {"anisotropic_diffusion.frag", "Diffusion Shader : "}},
        {&restrictColorProgram, {"restrict_color.frag", "Restrict Color Shader : "}},
        {&blurThresholdProgram, {"blur_threshold.frag", "Blur Threshold Shader : "}},
        {&downsampleProgram, {"downsample.frag", "Downsample Shader : "}},
    };
    const QByteArray vertex = shaderPath("img_process.vert");
    for (const Entry& entry : entries) {
        if (!entry.program->create(vertex, shaderPath(entry.files.fragment)))
            std::cerr << entry.files.prefix << entry.program->log().constData() << std::endl;
    }
    if (forExport && !composeChannelProgram.create(vertex, shaderPath("compose_channel.frag")))
        std::cerr << "Compose Channel Shader : " << composeChannelProgram.log().constData()
                  << std::endl;
    if (!pictureOutputProgram.create(shaderPath("picture_output.vert"),
                                     shaderPath("picture_output.frag")))
        std::cerr << "Picture Output Shader : " << pictureOutputProgram.log().constData()
                  << std::endl;

    // Sampler units and the sweep weight never change: set them once.
    struct SamplerUnit {
        ShaderProgram* program;
        const char* name;
        int unit;
    };
    const SamplerUnit units[] = {
        {&divProgram, "gxMap", 0},
        {&divProgram, "gyMap", 1},
        {&restrictProgram, "imgMap", 0},
        {&diffusionProgram, "imgMap", 0},
        {&diffusionProgram, "blurMap", 1},
        {&restrictColorProgram, "imgMap", 0},
        {&downsampleProgram, "imgMap", 0},
        {&composeChannelProgram, "channelMap", 0},
        {&composeChannelProgram, "referenceMap", 1},
        {&composeChannelProgram, "blurMap", 2},
    };
    for (const SamplerUnit& s : units) {
        if (!s.program->isLinked())
            continue;
        s.program->use();
        s.program->setSampler(s.name, s.unit);
    }
    ShaderProgram::release();
}

bool SolverPrograms::allLinked(bool forExport) const
{
    const ShaderProgram* programs[] = {&divProgram,           &restrictProgram,
                                       &diffusionProgram,     &restrictColorProgram,
                                       &blurThresholdProgram, &downsampleProgram,
                                       &pictureOutputProgram};
    for (const ShaderProgram* program : programs) {
        if (!program->isLinked())
            return false;
    }
    return !forExport || composeChannelProgram.isLinked();
}
