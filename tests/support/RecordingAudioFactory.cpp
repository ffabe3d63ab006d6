#include "support/RecordingAudioFactory.h"

namespace
{
class RecordingAudioInterface : public TheoraAudioInterface
{
public:
    explicit RecordingAudioInterface(RecordedSound& record) : m_record(record) {}
    ~RecordingAudioInterface() override { m_record.destroyed = true; }

    void insertData(const float* const* data, int nSamples) override
    {
        m_record.threads.push_back(std::this_thread::get_id());
        ++m_record.inserts;
        for (int channel = 0; channel < m_record.channels; ++channel)
            m_record.samples[static_cast<size_t>(channel)].insert(
                m_record.samples[static_cast<size_t>(channel)].end(), data[channel],
                data[channel] + nSamples);
    }
    void stop() override
    {
        m_record.threads.push_back(std::this_thread::get_id());
        ++m_record.stops;
    }

private:
    RecordedSound& m_record;
};
} // namespace

std::unique_ptr<TheoraAudioInterface> RecordingAudioFactory::createInstance(TheoraVideoClip* owner,
                                                                            int nChannels, int freq)
{
    auto record = std::make_unique<RecordedSound>();
    record->owner = owner;
    record->channels = nChannels;
    record->rate = freq;
    record->samples.resize(static_cast<size_t>(nChannels));
    record->threads.push_back(std::this_thread::get_id());
    m_records.push_back(std::move(record));
    return std::make_unique<RecordingAudioInterface>(*m_records.back());
}
