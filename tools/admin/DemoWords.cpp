#include "DemoWords.h"

namespace qv::admin::words {

namespace {

QStringList split(const QString& s) { return s.split(QLatin1Char(' '), Qt::SkipEmptyParts); }

}  // namespace

const QStringList& brandChars() {
    static const QStringList l = split(QStringLiteral(
        "华 鑫 盛 达 兴 隆 恒 泰 金 宏 瑞 丰 永 昌 嘉 信 博 远 创 新 佳 和 天 宇 海 通 明 德 安 康 "
        "利 源 宝 辉 正 大 东 方 中 越 凯 旭 腾 飞 睿 智 卓 诚 汇 聚 荣 欣 力 豪 顺 益 晨 光 鼎 立 "
        "万 邦 君 合 融 讯 峰 润 坤 元"));
    return l;
}

const QStringList& brandPinyin() {
    static const QStringList l = split(QStringLiteral(
        "hua xin sheng da xing long heng tai jin hong rui feng yong chang jia xin bo yuan chuang xin "
        "jia he tian yu hai tong ming de an kang li yuan bao hui zheng da dong fang zhong yue "
        "kai xu teng fei rui zhi zhuo cheng hui ju rong xin li hao shun yi chen guang ding li "
        "wan bang jun he rong xun feng run kun yuan"));
    return l;
}

const QStringList& industries() {
    static const QStringList l = split(QStringLiteral(
        "科技 贸易 电子 机械 实业 化工 建材 食品 物流 医药 服装 家具 印务 包装 电器 五金 汽配 环保 能源 "
        "软件 网络 信息技术 建筑工程 装饰工程 广告 文化传播 商贸 塑胶 纺织 光电 仪器仪表 精密制造 新材料 "
        "农业科技 酒店管理 餐饮管理 教育咨询 企业管理咨询 供应链管理 进出口"));
    return l;
}

const QStringList& streets() {
    static const QStringList l = split(QStringLiteral(
        "人民路 解放路 中山路 建设路 和平路 长江路 黄河路 新华路 胜利路 文化路 工业大道 科技园路 "
        "友谊路 光明路 朝阳路 青年路 滨江大道 环城北路 东风路 迎宾大道 学院路 创业路 开发区大道 南京路"));
    return l;
}

const QStringList& surnames() {
    static const QStringList l = split(QStringLiteral(
        "王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 高 林 罗 郑 梁 谢 宋 唐 许 韩 冯 邓 曹 "
        "彭 曾 肖 田 董 袁 潘 于 蒋 蔡 余 杜 叶 程 苏 魏 吕 丁 任 沈"));
    return l;
}

const QStringList& givenNameChars() {
    static const QStringList l = split(QStringLiteral(
        "伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀 霞 平 刚 桂 英 华 玉 萍 红 建 文 辉 "
        "力 鹏 宇 浩 凯 俊 婷 雪 琳 晨 欣 悦 思 佳 子 涵 博 志 国 海"));
    return l;
}

const QStringList& domains() {
    static const QStringList l = split(QStringLiteral("com.cn cn com net.cn"));
    return l;
}

const std::vector<Category>& customerCategories() {
    static const std::vector<Category> l = {
        {QStringLiteral("01"), QStringLiteral("工业客户")},     {QStringLiteral("0101"), QStringLiteral("制造业")},
        {QStringLiteral("0102"), QStringLiteral("能源化工")},   {QStringLiteral("0103"), QStringLiteral("建筑建材")},
        {QStringLiteral("02"), QStringLiteral("商业客户")},     {QStringLiteral("0201"), QStringLiteral("批发贸易")},
        {QStringLiteral("0202"), QStringLiteral("零售连锁")},   {QStringLiteral("0203"), QStringLiteral("电子商务")},
        {QStringLiteral("03"), QStringLiteral("服务业客户")},   {QStringLiteral("0301"), QStringLiteral("物流运输")},
        {QStringLiteral("0302"), QStringLiteral("咨询服务")},   {QStringLiteral("0303"), QStringLiteral("酒店餐饮")},
        {QStringLiteral("04"), QStringLiteral("政府及事业单位")}, {QStringLiteral("0401"), QStringLiteral("学校")},
        {QStringLiteral("0402"), QStringLiteral("医院")},
    };
    return l;
}

const std::vector<Category>& productCategories() {
    static const std::vector<Category> l = {
        {QStringLiteral("01"), QStringLiteral("电脑及配件")}, {QStringLiteral("0101"), QStringLiteral("整机")},
        {QStringLiteral("0102"), QStringLiteral("配件")},     {QStringLiteral("02"), QStringLiteral("办公设备")},
        {QStringLiteral("0201"), QStringLiteral("打印复印")}, {QStringLiteral("0202"), QStringLiteral("通讯设备")},
        {QStringLiteral("03"), QStringLiteral("办公用品")},   {QStringLiteral("0301"), QStringLiteral("纸品")},
        {QStringLiteral("0302"), QStringLiteral("文具")},     {QStringLiteral("04"), QStringLiteral("软件服务")},
    };
    return l;
}

const std::vector<ProductTemplate>& productTemplates() {
    static const std::vector<ProductTemplate> l = {
        {QStringLiteral("0101"), QStringLiteral("台式电脑"), QStringLiteral("i5/16G/512G"), QStringLiteral("台"), 4599},
        {QStringLiteral("0101"), QStringLiteral("笔记本电脑"), QStringLiteral("14英寸/16G/1T"), QStringLiteral("台"), 5999},
        {QStringLiteral("0101"), QStringLiteral("服务器"), QStringLiteral("2U双路"), QStringLiteral("台"), 23800},
        {QStringLiteral("0102"), QStringLiteral("液晶显示器"), QStringLiteral("27英寸"), QStringLiteral("台"), 1299},
        {QStringLiteral("0102"), QStringLiteral("无线键鼠套装"), QStringLiteral("黑色"), QStringLiteral("套"), 129},
        {QStringLiteral("0102"), QStringLiteral("固态硬盘"), QStringLiteral("1TB"), QStringLiteral("块"), 499},
        {QStringLiteral("0102"), QStringLiteral("内存条"), QStringLiteral("16GB"), QStringLiteral("条"), 299},
        {QStringLiteral("0102"), QStringLiteral("移动硬盘"), QStringLiteral("2TB"), QStringLiteral("个"), 459},
        {QStringLiteral("0201"), QStringLiteral("激光打印机"), QStringLiteral("A4黑白"), QStringLiteral("台"), 1499},
        {QStringLiteral("0201"), QStringLiteral("彩色喷墨打印机"), QStringLiteral("A4彩色"), QStringLiteral("台"), 899},
        {QStringLiteral("0201"), QStringLiteral("数码复印机"), QStringLiteral("A3"), QStringLiteral("台"), 12500},
        {QStringLiteral("0201"), QStringLiteral("硒鼓"), QStringLiteral("标准容量"), QStringLiteral("个"), 389},
        {QStringLiteral("0201"), QStringLiteral("墨盒"), QStringLiteral("四色套装"), QStringLiteral("套"), 268},
        {QStringLiteral("0201"), QStringLiteral("扫描仪"), QStringLiteral("A4高速"), QStringLiteral("台"), 2350},
        {QStringLiteral("0202"), QStringLiteral("传真机"), QStringLiteral("普通纸"), QStringLiteral("台"), 980},
        {QStringLiteral("0202"), QStringLiteral("IP电话机"), QStringLiteral("双线"), QStringLiteral("台"), 420},
        {QStringLiteral("0202"), QStringLiteral("交换机"), QStringLiteral("24口千兆"), QStringLiteral("台"), 1680},
        {QStringLiteral("0202"), QStringLiteral("无线路由器"), QStringLiteral("双频"), QStringLiteral("台"), 359},
        {QStringLiteral("0202"), QStringLiteral("投影仪"), QStringLiteral("3600流明"), QStringLiteral("台"), 3999},
        {QStringLiteral("0301"), QStringLiteral("复印纸"), QStringLiteral("A4 70g"), QStringLiteral("箱"), 128},
        {QStringLiteral("0301"), QStringLiteral("复印纸"), QStringLiteral("A3 80g"), QStringLiteral("箱"), 236},
        {QStringLiteral("0301"), QStringLiteral("打印标签纸"), QStringLiteral("100张/包"), QStringLiteral("包"), 35},
        {QStringLiteral("0301"), QStringLiteral("笔记本"), QStringLiteral("B5 80页"), QStringLiteral("本"), 6.5},
        {QStringLiteral("0302"), QStringLiteral("中性笔"), QStringLiteral("0.5mm黑色"), QStringLiteral("盒"), 18},
        {QStringLiteral("0302"), QStringLiteral("文件夹"), QStringLiteral("A4双夹"), QStringLiteral("个"), 8.8},
        {QStringLiteral("0302"), QStringLiteral("订书机"), QStringLiteral("12号"), QStringLiteral("个"), 25},
        {QStringLiteral("0302"), QStringLiteral("计算器"), QStringLiteral("12位"), QStringLiteral("个"), 45},
        {QStringLiteral("0302"), QStringLiteral("白板"), QStringLiteral("90x120cm"), QStringLiteral("块"), 168},
        {QStringLiteral("04"), QStringLiteral("财务软件"), QStringLiteral("标准版"), QStringLiteral("套"), 6800},
        {QStringLiteral("04"), QStringLiteral("杀毒软件"), QStringLiteral("企业版一年"), QStringLiteral("套"), 980},
        {QStringLiteral("04"), QStringLiteral("上门维护服务"), QStringLiteral("按次"), QStringLiteral("次"), 300},
        {QStringLiteral("04"), QStringLiteral("网络布线"), QStringLiteral("按点位"), QStringLiteral("个"), 150},
    };
    return l;
}

const QStringList& productMakers() {
    static const QStringList l = split(QStringLiteral(
        "星河 远航 金桥 蓝海 天工 云帆 长风 和光 启明 锦程 青松 恒远 宏图 睿达 华光"));
    return l;
}

const std::vector<Place>& fallbackPlaces() {
    static const std::vector<Place> l = {
        {QStringLiteral("北京"), QStringLiteral("北京市")},     {QStringLiteral("上海"), QStringLiteral("上海市")},
        {QStringLiteral("天津"), QStringLiteral("天津市")},     {QStringLiteral("重庆"), QStringLiteral("重庆市")},
        {QStringLiteral("广东"), QStringLiteral("广州市")},     {QStringLiteral("广东"), QStringLiteral("深圳市")},
        {QStringLiteral("广东"), QStringLiteral("东莞市")},     {QStringLiteral("广东"), QStringLiteral("佛山市")},
        {QStringLiteral("江苏"), QStringLiteral("南京市")},     {QStringLiteral("江苏"), QStringLiteral("苏州市")},
        {QStringLiteral("江苏"), QStringLiteral("无锡市")},     {QStringLiteral("浙江"), QStringLiteral("杭州市")},
        {QStringLiteral("浙江"), QStringLiteral("宁波市")},     {QStringLiteral("浙江"), QStringLiteral("温州市")},
        {QStringLiteral("山东"), QStringLiteral("济南市")},     {QStringLiteral("山东"), QStringLiteral("青岛市")},
        {QStringLiteral("福建"), QStringLiteral("福州市")},     {QStringLiteral("福建"), QStringLiteral("厦门市")},
        {QStringLiteral("湖北"), QStringLiteral("武汉市")},     {QStringLiteral("湖南"), QStringLiteral("长沙市")},
        {QStringLiteral("四川"), QStringLiteral("成都市")},     {QStringLiteral("陕西"), QStringLiteral("西安市")},
        {QStringLiteral("河南"), QStringLiteral("郑州市")},     {QStringLiteral("河北"), QStringLiteral("石家庄市")},
        {QStringLiteral("辽宁"), QStringLiteral("沈阳市")},     {QStringLiteral("辽宁"), QStringLiteral("大连市")},
        {QStringLiteral("安徽"), QStringLiteral("合肥市")},     {QStringLiteral("江西"), QStringLiteral("南昌市")},
        {QStringLiteral("云南"), QStringLiteral("昆明市")},     {QStringLiteral("黑龙江"), QStringLiteral("哈尔滨市")},
    };
    return l;
}

const QStringList& scheduleTexts() {
    static const QStringList l = {
        QStringLiteral("电话回访，了解近期采购计划。"),       QStringLiteral("上门拜访采购负责人，介绍新产品。"),
        QStringLiteral("发送报价单并确认交货期。"),           QStringLiteral("跟进合同签订事宜。"),
        QStringLiteral("安排技术人员上门安装调试。"),         QStringLiteral("确认上月货款到账情况。"),
        QStringLiteral("邀请客户参加产品展示会。"),           QStringLiteral("处理客户反映的售后问题。"),
    };
    return l;
}

const QStringList& visitTexts() {
    static const QStringList l = {
        QStringLiteral("设备运行正常，客户满意"),   QStringLiteral("询问耗材使用情况"),
        QStringLiteral("回访安装质量"),             QStringLiteral("了解续购意向"),
        QStringLiteral("客户提出培训需求"),         QStringLiteral("年度服务回访"),
    };
    return l;
}

const QStringList& feedbackTexts() {
    static const QStringList l = {
        QStringLiteral("到货延迟两天"),         QStringLiteral("打印机卡纸"),
        QStringLiteral("发票信息有误"),         QStringLiteral("包装破损"),
        QStringLiteral("售后响应不及时"),       QStringLiteral("送货数量与订单不符"),
    };
    return l;
}

const QStringList& billNotes() {
    static const QStringList l = {
        QStringLiteral("款到发货"), QStringLiteral("月结30天"), QStringLiteral("含运费"),
        QStringLiteral("客户自提"), QStringLiteral("需开增值税专用发票"),
    };
    return l;
}

const QStringList& competitorNotes() {
    static const QStringList l = {
        QStringLiteral("同时接触两家本地供应商"), QStringLiteral("价格敏感，常比价"),
        QStringLiteral("原供应商合同年底到期"),   QStringLiteral("暂无"),
    };
    return l;
}

const QStringList& fallbackCustTypes() {
    static const QStringList l = {QStringLiteral("正式客户"), QStringLiteral("试用客户")};
    return l;
}
const QStringList& fallbackCustLevels() {
    static const QStringList l = split(QStringLiteral("重要客户 普通客户 潜在客户"));
    return l;
}
const QStringList& fallbackCustSources() {
    static const QStringList l = {QStringLiteral("展鉴会"), QStringLiteral("媒体广告"), QStringLiteral("客户介绍"),
                                  QStringLiteral("网络推广")};
    return l;
}
const QStringList& fallbackPositions() {
    static const QStringList l = split(QStringLiteral("总经理 副总经理 采购经理 财务主管 办公室主任 技术员"));
    return l;
}
const QStringList& fallbackDepartments() {
    static const QStringList l = split(QStringLiteral("总经办 采购部 财务部 行政部 技术部 销售部"));
    return l;
}
const QStringList& fallbackActivities() {
    static const QStringList l = split(QStringLiteral("电话联系 上门拜访 发送资料 会议 售后服务"));
    return l;
}
const QStringList& fallbackSubjects() {
    static const QStringList l = split(QStringLiteral("产品介绍 报价跟进 合同洽谈 货款催收 售后回访"));
    return l;
}
const QStringList& fallbackVisitResults() {
    static const QStringList l = split(QStringLiteral("满意 基本满意 不满意"));
    return l;
}
const QStringList& fallbackFeedbackResults() {
    static const QStringList l = split(QStringLiteral("已解决 处理中 未解决"));
    return l;
}
const QStringList& fallbackFinishStates() {
    static const QStringList l = split(QStringLiteral("执行中 已完成 已终止"));
    return l;
}
const QStringList& fallbackPhases() {
    static const QStringList l = split(QStringLiteral("初步接触 需求确认 方案报价 商务谈判 成交"));
    return l;
}
const QStringList& fallbackStates() {
    static const QStringList l = split(QStringLiteral("正常 重点跟进 暂停 流失"));
    return l;
}
const QStringList& educations() {
    static const QStringList l = split(QStringLiteral("大专 本科 硕士 高中"));
    return l;
}
const QStringList& polities() {
    static const QStringList l = split(QStringLiteral("群众 中共党员 共青团员"));
    return l;
}

}  // namespace qv::admin::words
