#pragma once
// Values of block outputs and setpoints that the panel shows in the live
// elements, read from a small JSON file:
//   {"1": [12.5, 3], "3": [1, 0], "7": {"outputs": [0.5], "setpoints": [80]}}
// A key is a block number 1..99; an array lists the block's outputs by their
// index in the output list (the index the page elements store), an object
// may give "outputs" and "setpoints". Anything not given reads 0.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <vector>

namespace ostrel {

class BlockValues {
public:
    double output(int block, int index) const { return at(outputs_, block, index); }
    double setpoint(int block, int index) const { return at(setpoints_, block, index); }
    void setOutputs(int block, std::vector<double> values) { outputs_[block] = std::move(values); }
    void setSetpoints(int block, std::vector<double> values) { setpoints_[block] = std::move(values); }
    void removeBlock(int block)
    {
        outputs_.remove(block);
        setpoints_.remove(block);
    }
    bool isEmpty() const { return outputs_.isEmpty() && setpoints_.isEmpty(); }
    // The values given for a block (empty when none).
    std::vector<double> outputsOf(int block) const { return outputs_.value(block); }
    std::vector<double> setpointsOf(int block) const { return setpoints_.value(block); }
    // Blocks with outputs or setpoints given, in ascending order.
    QList<int> blocks() const;
    bool operator==(const BlockValues& other) const
    {
        return outputs_ == other.outputs_ && setpoints_ == other.setpoints_;
    }

private:
    static double at(const QHash<int, std::vector<double>>& table, int block, int index);

    QHash<int, std::vector<double>> outputs_;
    QHash<int, std::vector<double>> setpoints_;
};

// Parses the JSON text; false with a one-line reason (which key, what is
// wrong) when it is not of the form above.
bool parseBlockValues(const QByteArray& json, BlockValues& out, QString& error);
// Reads and parses the file at `path`.
bool loadBlockValues(const QString& path, BlockValues& out, QString& error);
// The values in the form parseBlockValues reads: a block with outputs only
// as a list, one with setpoints as {"outputs": [..], "setpoints": [..]}.
QByteArray blockValuesJson(const BlockValues& values);
// Writes them to `path` through the checked save; empty on success, else
// the line naming the file and the cause.
QString saveBlockValues(const QString& path, const BlockValues& values);

} // namespace ostrel
