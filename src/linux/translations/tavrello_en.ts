<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Tavrello</name>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="17"/>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="18"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="19"/>
        <source>ランダム再生</source>
        <translation>Shuffle</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="20"/>
        <source>を含むフォルダ）</source>
        <translation>folders)</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="21"/>
        <source>（例外：</source>
        <translation>(except</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="22"/>
        <source>１曲 = </source>
        <translation>Piece:</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="23"/>
        <source>音量：</source>
        <translation>Volume:</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="24"/>
        <source>再生位置：</source>
        <translation>Position:</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="25"/>
        <source>フォルダ選択</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="26"/>
        <source>演奏対象</source>
        <translation>Formats</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="28"/>
        <source>フォルダ単位</source>
        <translation>Whole folder</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="29"/>
        <source>ファイル単位</source>
        <translation>Single file</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="31"/>
        <source>デバイスのオープンに失敗</source>
        <translation>Could not open the sound device</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="32"/>
        <source>デバイスの再生に失敗</source>
        <translation>Could not start playing</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="33"/>
        <source>デバイスの停止に失敗</source>
        <translation>Could not stop playing</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="34"/>
        <source>不正なパス名です</source>
        <translation>No such folder</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="35"/>
        <source>error</source>
        <translation>Error</translation>
    </message>
    <message>
        <location filename="../window/qt_fixed_texts.cpp" line="37"/>
        <source>タイトルです。</source>
        <translation>Choose the music folder</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="26"/>
        <source>曲の一覧</source>
        <translation>Pieces</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="28"/>
        <source>フォルダ</source>
        <translation>Music folder</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="30"/>
        <source>１曲</source>
        <translation>Piece</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="32"/>
        <source>例外</source>
        <translation>Except folders containing</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="34"/>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="36"/>
        <source>再生位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="38"/>
        <source>前のファイル</source>
        <translation>Previous file</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="40"/>
        <source>次のファイル</source>
        <translation>Next file</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="42"/>
        <source>タイトル</source>
        <translation>Title</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="44"/>
        <source>アーティスト</source>
        <translation>Artist</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="46"/>
        <source>アルバム</source>
        <translation>Album</translation>
    </message>
    <message>
        <location filename="../window/qt_accessible_names.cpp" line="48"/>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
</context>
</TS>
