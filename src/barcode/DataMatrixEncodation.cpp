#include "barcode/DataMatrixEncodation.h"

#include <climits>
#include <vector>

namespace {

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool isEdifact(unsigned char c)
{
    return c >= 32 && c <= 94;
}

// States of the shortest-path search: ASCII, the three triplet modes, and EDIFACT with 0 to 3 values
// of the current four-value group written.
enum State { kAscii, kC40, kText, kX12, kEdifact, kStates = kEdifact + 4 };
constexpr char kLetters[kStates + 1] = "ACTXEEEE";

// Codewords that leave EDIFACT with the given values of a group pending: the unlatch value is the
// next one, and the group's bits end on a codeword boundary.
constexpr int kEdifactExit[4] = {1, 2, 3, 3};

struct Step {
    int cost = INT_MAX / 2;
    int next = 0;      // the byte the step ends before
    int nextState = 0; // and the state it ends in
};

// The fewest codewords from every byte and state to the end, as the library writes each mode: ASCII
// pairs two digits whatever the next letter says, C40, Text and X12 runs fill whole codeword pairs,
// and EDIFACT runs end with an unlatch. `exactFit` prices a symbol that the data fills to its last
// codeword, where C40, Text and X12 need no unlatch at the end, nor before one last ASCII codeword.
DataMatrixEncodation shortestEncodation(const QByteArray &data, bool everyMode, bool exactFit)
{
    const int finalUnlatch = exactFit ? 0 : 1;
    const int n = static_cast<int>(data.size());
    const auto byte = [&data](int i) { return static_cast<unsigned char>(data[i]); };
    std::vector<Step> steps((static_cast<std::size_t>(n) + 1) * kStates);
    const auto at = [&steps](int i) { return steps.data() + static_cast<std::size_t>(i) * kStates; };
    Step *end = at(n);
    end[kAscii].cost = 0;
    for (int m = kC40; m <= kX12; ++m)
        end[m].cost = finalUnlatch;
    for (int p = 0; p < 4; ++p)
        end[kEdifact + p].cost = kEdifactExit[p];

    for (int i = n - 1; i >= 0; --i) {
        Step *here = at(i);
        const auto offer = [&](int state, int cost, int next, int nextState) {
            cost += at(next)[nextState].cost;
            if (cost < here[state].cost)
                here[state] = {cost, next, nextState};
        };
        // Bytes written in the mode one is in.
        for (int m = kC40; m <= kX12; ++m) {
            if (m == kX12 && !everyMode)
                continue;
            int values = 0;
            for (int k = i; k < n; ++k) {
                const int v = dataMatrixTripletValues(byte(k), kLetters[m]);
                if (v == 0)
                    break;
                values += v;
                if (values % 3 == 0) {
                    offer(m, values / 3 * 2, k + 1, m);
                    break;
                }
            }
            const bool lastAsciiCodeword = (i == n - 1 && byte(i) < 0x80) ||
                                           (i == n - 2 && isDigit(byte(i)) && isDigit(byte(i + 1)));
            if (exactFit && lastAsciiCodeword)
                offer(m, 1, n, kAscii);
        }
        if (everyMode && isEdifact(byte(i)))
            for (int p = 0; p < 4; ++p)
                offer(kEdifact + p, p == 3 ? 3 : 0, i + 1, kEdifact + (p + 1) % 4);
        const bool pair = isDigit(byte(i)) && i + 1 < n && isDigit(byte(i + 1));
        offer(kAscii, byte(i) >= 0x80 ? 2 : 1, i + (pair ? 2 : 1), kAscii);
        // Latches from ASCII, then unlatches back to it; a latch-unlatch round trip never pays.
        for (int m = kC40; m <= kEdifact; ++m)
            if (1 + here[m].cost < here[kAscii].cost)
                here[kAscii] = {1 + here[m].cost, i, m};
        for (int m = kC40; m < kStates; ++m) {
            const int exit = m < kEdifact ? 1 : kEdifactExit[m - kEdifact];
            if (exit + here[kAscii].cost < here[m].cost)
                here[m] = {exit + here[kAscii].cost, i, kAscii};
        }
    }

    QByteArray letters(n, 'A');
    for (int i = 0, state = kAscii; i < n;) {
        const Step &step = at(i)[state];
        // Bytes that leave a mode for ASCII are the last codeword, written without an unlatch.
        for (int k = i; k < step.next; ++k)
            letters[k] = kLetters[step.nextState == kAscii ? kAscii : state];
        i = step.next;
        state = step.nextState;
    }
    return {letters, at(0)[kAscii].cost};
}

// C40, Text or X12 from the codeword after the latch to its unlatch, or to the end of the data
// codewords; a lone last codeword is ASCII.
bool readTriplets(const unsigned char *codewords, int count, int &k, char mode, QByteArray &out)
{
    int shift = 0;
    bool upper = false;
    const auto put = [&](int c) {
        out.append(static_cast<char>(c + (upper ? 0x80 : 0)));
        upper = false;
        shift = 0;
    };
    while (k + 1 < count && codewords[k] != 254) {
        const int packed = codewords[k] * 256 + codewords[k + 1] - 1;
        k += 2;
        if (packed < 0 || packed >= 64000)
            return false;
        for (const int v : {packed / 1600, packed / 40 % 40, packed % 40}) {
            if (mode == 'X') {
                if (v < 3)
                    put("\r*>"[v]);
                else if (v == 3)
                    put(' ');
                else
                    put(v < 14 ? '0' + v - 4 : 'A' + v - 14);
            } else if (shift == 0) {
                if (v < 3)
                    shift = v + 1;
                else if (v == 3)
                    put(' ');
                else
                    put(v < 14 ? '0' + v - 4 : (mode == 'T' ? 'a' : 'A') + v - 14);
            } else if (shift == 1) {
                if (v >= 32)
                    return false;
                put(v);
            } else if (shift == 2) {
                if (v < 15)
                    put('!' + v);
                else if (v < 22)
                    put(':' + v - 15);
                else if (v < 27)
                    put('[' + v - 22);
                else if (v == 30 && !upper) {
                    upper = true;
                    shift = 0;
                } else
                    return false;
            } else {
                if (v >= 32)
                    return false;
                if (mode == 'C' || v == 0)
                    put(96 + v);
                else
                    put(v < 27 ? 'A' + v - 1 : '{' + v - 27);
            }
        }
    }
    if (k < count && codewords[k] == 254)
        ++k;
    return shift == 0 && !upper;
}

// EDIFACT from the codeword after the latch to its unlatch; fewer than three codewords left at a
// group's start are ASCII.
bool readEdifact(const unsigned char *codewords, int count, int &k, QByteArray &out)
{
    int bit = k * 8;
    for (int value = 0;; ++value) {
        if (value % 4 == 0 && count * 8 - bit < 24) {
            k = bit / 8;
            return true;
        }
        if (bit + 6 > count * 8)
            return false;
        int v = 0;
        for (int b = 0; b < 6; ++b, ++bit)
            v = v << 1 | ((codewords[bit / 8] >> (7 - bit % 8)) & 1);
        if (v == 31) {
            k = (bit + 7) / 8;
            return true;
        }
        out.append(static_cast<char>(v & 0x20 ? v : v | 0x40));
    }
}

} // namespace

int dataMatrixTripletValues(unsigned char byte, char mode)
{
    if (mode == 'X')
        return byte == '\r' || byte == '*' || byte == '>' || byte == ' ' || isDigit(byte) ||
                       (byte >= 'A' && byte <= 'Z')
                   ? 1
                   : 0;
    int values = 0;
    if (byte & 0x80) {
        values = 2; // upper shift
        byte &= 0x7f;
    }
    if (byte == 0)
        return 0;
    const bool basic = byte == ' ' || isDigit(byte) ||
                       (mode == 'T' ? (byte >= 'a' && byte <= 'z') : (byte >= 'A' && byte <= 'Z'));
    return values + (basic ? 1 : 2);
}

DataMatrixEncodation dataMatrixEncodation(const QByteArray &data, int variant)
{
    if (variant < kDataMatrixEncodations - 1)
        return shortestEncodation(data, variant < 2, variant % 2 == 1);
    int codewords = 0;
    for (qsizetype i = 0; i < data.size(); ++i, ++codewords)
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            ++codewords;
        else if (i + 1 < data.size() && isDigit(static_cast<unsigned char>(data[i])) &&
                 isDigit(static_cast<unsigned char>(data[i + 1])))
            ++i;
    return {QByteArray(data.size(), 'A'), codewords};
}

bool dataMatrixEncoderTakes(const QByteArray &data, const QByteArray &letters)
{
    if (letters.size() < data.size() || letters.left(data.size()).contains('\0'))
        return false;
    for (qsizetype k = 0; k < data.size(); ++k) {
        const auto byte = static_cast<unsigned char>(data[k]);
        switch (letters[k] | 0x20) {
        case 'a':
        case 'c':
        case 't':
            break;
        case 'x': // its table, whose end the zero byte matches
            if (byte != 0 && dataMatrixTripletValues(byte, 'X') == 0)
                return false;
            break;
        case 'e':
            if (!isEdifact(byte))
                return false;
            break;
        default:
            return false;
        }
    }
    return true;
}

std::optional<QByteArray> dataMatrixDecodeCodewords(const unsigned char *codewords, int count)
{
    QByteArray out;
    for (int k = 0; k < count;) {
        const int c = codewords[k++];
        if (c >= 1 && c <= 128) {
            out.append(static_cast<char>(c - 1));
        } else if (c == 129) {
            break; // padding to the end
        } else if (c >= 130 && c <= 229) {
            out.append(static_cast<char>('0' + (c - 130) / 10));
            out.append(static_cast<char>('0' + (c - 130) % 10));
        } else if (c == 235) {
            if (k >= count || codewords[k] < 1 || codewords[k] > 128)
                return std::nullopt;
            out.append(static_cast<char>(codewords[k++] + 127));
        } else if (c == 230 || c == 239 || c == 238) {
            if (!readTriplets(codewords, count, k, c == 230 ? 'C' : c == 239 ? 'T' : 'X', out))
                return std::nullopt;
        } else if (c == 240) {
            if (!readEdifact(codewords, count, k, out))
                return std::nullopt;
        } else if (c == 241 && k == 1 && k < count && codewords[k] >= 1 && codewords[k] <= 127) {
            ++k; // an ECI in front names the bytes' character set and changes none of them
        } else {
            return std::nullopt;
        }
    }
    return out;
}
