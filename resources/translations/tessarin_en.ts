<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>DialogTemplates</name>
    <message>
        <source>画像セット</source>
        <translation>Image set</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>頭</source>
        <translation>Head</translation>
    </message>
    <message>
        <source>頭追加</source>
        <translation>Head extra</translation>
    </message>
    <message>
        <source>上半身</source>
        <translation>Upper body</translation>
    </message>
    <message>
        <source>装飾1</source>
        <translation>Accessory 1</translation>
    </message>
    <message>
        <source>装飾2</source>
        <translation>Accessory 2</translation>
    </message>
    <message>
        <source>下半身</source>
        <translation>Lower body</translation>
    </message>
    <message>
        <source>画像生成</source>
        <translation>Save image...</translation>
    </message>
    <message>
        <source>2倍表示</source>
        <translation>2x</translation>
    </message>
    <message>
        <source>左半分だけ出力(8方向→4方向化）</source>
        <translation>Left half only (8 → 4 directions)</translation>
    </message>
    <message>
        <source>ランダム合成</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>ﾗﾝﾀﾞﾑ</source>
        <translation>Rand</translation>
    </message>
    <message>
        <source>※「ランダム」のチェックが入っている欄のみ、<byte value="xd"/>
&#x3000; 「ランダム合成」で変化します。</source>
        <translation>※ Only the lists with &quot;Rand&quot; ticked change
    when you press Random.</translation>
    </message>
    <message>
        <source>2/3表示</source>
        <translation>2/3x</translation>
    </message>
    <message>
        <source>バージョン情報 Tessarin</source>
        <translation>About Tessarin</translation>
    </message>
    <message>
        <source>Tessarin Version 1.1</source>
        <translation>Tessarin Version 1.1</translation>
    </message>
</context>
<context>
    <name>tessarin::ChoiceHistory</name>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
</context>
<context>
    <name>tessarin::ColourSection</name>
    <message>
        <source>色</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>合成方法</source>
        <translation>Blending</translation>
    </message>
    <message>
        <source>クラシック</source>
        <translation>Classic</translation>
    </message>
    <message>
        <source>標準</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>クラシック: 元の素材に合わせた重ね方です。
標準: 半透明をそのまま重ねます。透明部分のあるパレット形式のPNGは標準で正しく見えます。</source>
        <translation>Classic: layers blend as the sets were drawn for.
Standard: translucent layers blend as they are. Palette PNGs with transparency look right under the standard rule.</translation>
    </message>
    <message>
        <source>元の色</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>ﾗﾝﾀﾞﾑ</source>
        <translation>Rand</translation>
    </message>
</context>
<context>
    <name>tessarin::CompositorDialog</name>
    <message>
        <source>out of memory</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>サイドパネル(&amp;P)</source>
        <translation>Side &amp;panel</translation>
    </message>
    <message>
        <source>メタデータを保存できませんでした。
%1

%2</source>
        <translation>Could not save the metadata.
%1

%2</translation>
    </message>
</context>
<context>
    <name>tessarin::CreditsSection</name>
    <message>
        <source>チェックしたライセンスだけの画像から「ランダム合成」で選びます。どれもチェックしなければ、すべての画像から選びます。</source>
        <translation>Random composition picks only images whose licences are all ticked. With none ticked, it picks from every image.</translation>
    </message>
    <message>
        <source>制限なし</source>
        <translation>Any</translation>
    </message>
    <message>
        <source>%1: クレジットの記録なし</source>
        <translation>%1: no credit recorded</translation>
    </message>
    <message>
        <source>作者不明</source>
        <translation>unknown authors</translation>
    </message>
    <message>
        <source>ライセンスの記載なし</source>
        <translation>no stated licence</translation>
    </message>
    <message>
        <source>%1: 作者 %2、ライセンス %3</source>
        <translation>%1 by %2, licensed %3</translation>
    </message>
    <message>
        <source>このセットにはクレジットの記録 (CREDITS.csv) がありません。</source>
        <translation>This set records no credits (CREDITS.csv).</translation>
    </message>
    <message>
        <source>ライセンス:</source>
        <translation>Licences:</translation>
    </message>
</context>
<context>
    <name>tessarin::Prompts</name>
    <message>
        <source>メタデータも書き出す (フレームとアニメーションの .json、クレジットの .credits.txt)</source>
        <translation>Also write the metadata (frames and animations in .json, credits in .credits.txt)</translation>
    </message>
</context>
<context>
    <name>tessarin::RecipeSection</name>
    <message>
        <source>レシピを保存</source>
        <translation>Save recipe</translation>
    </message>
    <message>
        <source>レシピ (*.json)</source>
        <translation>Recipes (*.json)</translation>
    </message>
    <message>
        <source>レシピ</source>
        <translation>Recipe</translation>
    </message>
    <message>
        <source>レシピを保存…</source>
        <translation>Save recipe...</translation>
    </message>
    <message>
        <source>コマンドをコピー</source>
        <translation>Copy command</translation>
    </message>
    <message>
        <source>同じ画像を作る tessarin-compose のコマンドをクリップボードに入れます</source>
        <translation>Puts the tessarin-compose command that makes the same image on the clipboard</translation>
    </message>
    <message>
        <source>レシピを開く</source>
        <translation>Open recipe</translation>
    </message>
    <message>
        <source>レシピを開く…</source>
        <translation>Open recipe...</translation>
    </message>
</context>
<context>
    <name>tessarin::SheetSection</name>
    <message>
        <source>シート</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>全体</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>%1倍</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>グリッド</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>市松模様</source>
        <translation>Checkerboard</translation>
    </message>
    <message>
        <source>背景色…</source>
        <translation>Background...</translation>
    </message>
    <message>
        <source>背景色</source>
        <translation>Background colour</translation>
    </message>
</context>
<context>
    <name>tessarin::SidePanel</name>
    <message>
        <source>歩行</source>
        <translation>Walk</translation>
    </message>
    <message>
        <source>色</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>クレジット</source>
        <translation>Credits</translation>
    </message>
</context>
<context>
    <name>tessarin::WalkCycleStage</name>
    <message>
        <source>このシートはセルに区切られていません</source>
        <translation>This sheet is not divided into cells</translation>
    </message>
    <message>
        <source>キャラクターがありません</source>
        <translation>No character</translation>
    </message>
    <message>
        <source>アニメーションがありません</source>
        <translation>No animations</translation>
    </message>
</context>
<context>
    <name>tessarin::WalkCycleStrip</name>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>%1倍</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>全方向</source>
        <translation>All directions</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
</context>
<context>
    <name>tessarin::WalkCycleView</name>
    <message>
        <source>歩行</source>
        <translation>Walk</translation>
    </message>
</context>
<context>
    <name>tessarin::strings</name>
    <message>
        <source>バージョン情報 Tessarin(&amp;A)...</source>
        <translation>&amp;About Tessarin...</translation>
    </message>
    <message>
        <source>[ なし ]</source>
        <translation>[ none ]</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>[ %1 ] フォルダ内にSetting.txtがありません。
まずこのファイルを作成してください。</source>
        <translation>There is no Setting.txt in the [ %1 ] folder.
Please create this file first.</translation>
    </message>
    <message>
        <source>[ %1 ] はセットのフォルダの外を指す名前なので、このパーツの画像は読み込みません。</source>
        <translation>[ %1 ] names a place outside the set&apos;s folder, so the images of this part are not loaded.</translation>
    </message>
    <message>
        <source>画像セットが見つかりません。
次のフォルダに画像セットのフォルダを置いてください:
%1</source>
        <translation>No image sets were found.
Put the folders of your image sets in this folder:
%1</translation>
    </message>
    <message>
        <source>PNGファイル (*.png)</source>
        <translation>PNG files (*.png)</translation>
    </message>
    <message>
        <source>All files(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>画像生成</source>
        <translation>Save image</translation>
    </message>
    <message>
        <source>画像を保存できませんでした。
%1

%2</source>
        <translation>The image could not be saved.
%1

%2</translation>
    </message>
    <message>
        <source>後ろに重ねる画像を読み込めませんでした。この画像なしで表示します。

%1</source>
        <translation>An image that goes behind another could not be read. The picture is shown without it.

%1</translation>
    </message>
    <message>
        <source>メモリが足りません。

%1</source>
        <translation>There is not enough memory.

%1</translation>
    </message>
    <message>
        <source>保存する画像がありません。
画像セットを読み込んでから画像生成してください。</source>
        <translation>There is no image to save.
Load an image set before saving an image.</translation>
    </message>
    <message>
        <source>画像セットのフォルダを選択</source>
        <translation>Choose the image sets folder</translation>
    </message>
</context>
</TS>
